tilsen_test(NAME test_multifile SOURCES test_multifile.cpp MultiPair.h LIBS tilsen_mulwrite)
