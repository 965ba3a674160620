// The main() of widget tests: a QApplication must exist before the first
// widget, so the tests get their own main instead of gtest_main.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
