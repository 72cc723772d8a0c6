// The unit that builds the tests' shared precompiled header; it has no code of its own.
