#pragma once

// The base of test classes that draw with GL: QTEST_MAIN prepares the
// application for it before the application starts.
#include "GlRequirement.h"
#include "view/GLWidget.h"

#include <QObject>

class GlTest : public QObject
{
public:
    static void initMain() { GLWidget::prepareApplication(); }
};
