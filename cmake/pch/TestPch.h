// Precompiled for the tests: one header for the core tests and one for the
// window tests, each shared by every test of its kind.
#pragma once

#ifdef QT_WIDGETS_LIB
#include "GuiPch.h"
#else
#include "CorePch.h"
#endif

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
