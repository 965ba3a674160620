// Start-up and discovery of the main window against simulated lasers.
#include "gui/MainWindowFixture.h"

TEST_F(MainWindowTest, Type8Sequence) {
    AddTyped(1, 8);
    MakeWindow();
    ASSERT_TRUE(Form->InitializeLaser());
    qDebug() << Commands();
    qDebug() << Form->windowTitle() << Status() << Dialogs->Shown;
}
