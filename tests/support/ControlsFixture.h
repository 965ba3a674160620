#pragma once

#include "controls/Beep.h"
#include "controls/ExceptionDisplay.h"

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// Widget tests of the controls: beeps and errors shown to the operator are
// counted instead of sounded or shown, and a shown top-level window holds
// the controls under test.
class ControlsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetBeepHook([this] { ++Beeps; });
        SetExceptionDisplay(
            [this](const std::exception& e) { Errors << QString::fromUtf8(e.what()); });
        Window = std::make_unique<QWidget>();
        Window->resize(400, 300);
    }

    void TearDown() override {
        Window.reset();
        SetBeepHook({});
        SetExceptionDisplay({});
    }

    void ShowWindow() {
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    }

    int Beeps = 0;
    QStringList Errors;
    std::unique_ptr<QWidget> Window;
};
