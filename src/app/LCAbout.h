#pragma once

#include "controls/Form.h"

class QLabel;
class QPushButton;
class TAnimate;
class TrpVersionInfo;

// The about box: the program's name, its file version, a notice and a link
// to the maker's web page, on a white borderless box whose texts keep fixed
// dark colours whatever the desktop theme. Each box reads the executable's
// version when it is made; the main window makes a fresh one for each
// showing. OK (the default button) and Esc close it.
class TformAbout : public TForm {
    Q_OBJECT
public:
    // The maker's web page; the link shows it without its scheme.
    static constexpr const char* WebAddress = "https://www.example.com/trevalon/";

    explicit TformAbout(QWidget* parent = nullptr);
    ~TformAbout() override;

    // Places the box centred over `window` (its frame), within the screen
    // that holds the window's centre. Call before showing.
    void CentreOver(const QWidget* window);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FormShow();
    void labelWebpageClick();

    TAnimate* aniLogo = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* labelVersion = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* labelWebpage = nullptr;
    QPushButton* OKBtn = nullptr;
    TrpVersionInfo* rpVersionInfo1 = nullptr;
};
