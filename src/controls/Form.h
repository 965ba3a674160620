#pragma once

#include <QDialog>

#include <functional>

// What closing a window does, as chosen by its close handler.
enum TCloseAction { caNone = 0, caHide = 1, caFree = 2, caMinimize = 3 };

// A close handler: receives the window and may change the action.
using TCloseEvent = std::function<void(QObject* sender, TCloseAction& action)>;

// A secondary window with an assignable close handler. Every way of closing
// it (close(), the title bar, Esc, accept()/reject()/done()) first runs
// OnClose with the action caHide; the handler may change it to
//   caNone      the window stays open (a modal loop keeps running),
//   caHide      the window is hidden (the default),
//   caFree      the window is hidden and then deleted (deleteLater),
//   caMinimize  the window is minimised and stays open.
// An exception from the handler goes to the application's exception display
// and keeps the window open.
class TForm : public QDialog {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    TCloseEvent OnClose() const { return FOnClose; }
    void SetOnClose(TCloseEvent handler) { FOnClose = std::move(handler); }

    // Shows the window modally; returns its result code (QDialog::done).
    int ShowModal();

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TCloseAction RunCloseHandler();
    // Carries out `action`; false when the window stays open.
    bool FinishClose(TCloseAction action, int result);

    TCloseEvent FOnClose;
};
