#pragma once

#include "controls/Form.h"

#include <QObject>
#include <QPointer>

#include <concepts>
#include <functional>
#include <memory>
#include <vector>

// A reference to the program's variable that holds a window (empty until
// the window is first needed).
struct TFormVariable {
    const void* Address = nullptr;
    std::function<TForm*()> Get;
    std::function<void()> Clear;
};

// One registered window: while it exists the manager's close handler sits
// on the window in place of the window's own, which it saves.
class TFormData {
public:
    TFormData(TFormVariable variable, TCloseEvent managerClose);
    // Puts the saved close handler back and empties the variable.
    ~TFormData();
    TFormData(const TFormData&) = delete;
    TFormData& operator=(const TFormData&) = delete;

    const TFormVariable& Variable() const { return FVariable; }
    const TCloseEvent& SavedClose() const { return FSavedClose; }
    // Puts the saved handler back but leaves the variable and the window
    // alone; the destructor then does nothing more.
    void Release();

private:
    TFormVariable FVariable;
    QPointer<TForm> FForm;
    TCloseEvent FSavedClose;
    bool FReleased = false;
};

// Shows secondary windows on demand. ShowForm creates the window the first
// time (parentless, into the program's variable), registers it and shows
// it. A registered window is deleted when it is closed and its variable
// emptied, so that the next request builds a fresh one; the window's own
// close handler still runs first and can keep the window (caHide, caNone,
// caMinimize), which then stays registered.
//
// The variable passed to ShowForm must outlive the window's registration
// (a member or a global, not a local).
class TKxFormManager : public QObject {
    Q_OBJECT
public:
    explicit TKxFormManager(QObject* owner = nullptr);
    // Windows still registered get their own close handlers back; they and
    // their variables are otherwise left alone.
    ~TKxFormManager() override;

    // Show modes (TShowMode; other numbers act as smCreateOnly):
    //   smModal: a window already visible is hidden first; returns the
    //     window's result code
    //   smModeless: returns 0
    //   smShowAndWait: modeless, and processes events until the window is
    //     closed or hidden; returns 0
    //   smCreateOnly: creates and registers the window without showing it;
    //     returns 0
    enum TShowMode : quint8 { smModal = 0, smModeless = 1, smShowAndWait = 2, smCreateOnly = 3 };

    template <std::derived_from<TForm> F> int ShowForm(F*& form, quint8 showMode) {
        TFormVariable variable;
        variable.Address = &form;
        variable.Get = [&form]() -> TForm* { return form; };
        variable.Clear = [&form] { form = nullptr; };
        return ShowFormImpl(
            variable, [&form]() -> TForm* { return form = new F(); }, showMode);
    }

    // The close handler of every registered window. Throws
    // std::runtime_error("Form \"<name>\" not found in form manager list")
    // for a window that is not registered (the window then stays open).
    void FormClose(QObject* sender, TCloseAction& action);

    // How many windows are registered.
    int Count() const { return int(FList.size()); }

private:
    int ShowFormImpl(const TFormVariable& variable, const std::function<TForm*()>& create,
                     quint8 showMode);
    void Register(const TFormVariable& variable);

    std::vector<std::unique_ptr<TFormData>> FList;
};
