#pragma once

// The main window against simulated lasers on ptys: a connection manager
// whose slots point at the simulators, the window with scripted dialogs, and
// a laser whose protocol pauses pass on a driven clock. Discovery is run by
// the test (the automatic one on the first activation is switched off).

#include "app/LCMain.h"
#include "controls/ExceptionDisplay.h"
#include "integration/LaserSimFixture.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>

class MainWindowTest : public LaserSimTest {
protected:
    void TearDown() override {
        Form.reset();
        LaserSimTest::TearDown();
    }

    // A simulated laser of the given type (motors that stop at once) in
    // `slot`; further control lines in `settings`.
    SimProcess* AddTyped(int slot, int type, const QStringList& settings = {}) {
        QStringList args = {"--set", QStringLiteral("set type %1").arg(type), "--set",
                            "set motor-time 0"};
        for (const QString& line : settings)
            args << "--set" << line;
        return AddSim(slot, args);
    }

    // The connection manager over the simulators added so far, and the
    // window (not shown; discovery not yet run).
    void MakeWindow(const QString& firstArgument = QString()) {
        QMap<int, QString> map;
        for (const auto& [slot, sim] : Sims)
            if (!sim->PtyPath().isEmpty())
                map.insert(slot, sim->PtyPath());
        Manager = std::make_unique<TConnectionManager>(map);
        auto dialogs = std::make_unique<TScriptedDialogs>();
        Dialogs = dialogs.get();
        TMainOptions options;
        options.FirstArgument = firstArgument;
        options.Dialogs = std::move(dialogs);
        Form = std::make_unique<TformMain>(std::move(options));
        Form->SetTag(1);
        Form->Laser()->SetTiming(Clock.Timing());
    }

    // A window that found the laser of `type` on COM1.
    void InitializedWindow(int type, const QStringList& settings = {}) {
        AddTyped(1, type, settings);
        MakeWindow();
        ASSERT_TRUE(Form->InitializeLaser());
        Mark();
    }

    template <class T = QWidget> T* Find(const char* name) const {
        T* control = Form->findChild<T*>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QString Status() const { return Find<QLabel>("labelStatus")->text(); }

    // Runs posted events (a posted re-discovery, a deferred close).
    static void ProcessEvents() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    std::unique_ptr<TformMain> Form;
    TScriptedDialogs* Dialogs = nullptr;
};
