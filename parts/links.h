// The program's ways out to other programs: the e-mail and web buttons on the main window, and
// what opens them and the help. The help opens at its contents page in a window of the
// program's own; when nothing can open a link, or the help is not found, the user is told so.
#pragma once

#include <string>
#include <vector>

#include <QObject>

#include "desktop.h"

class QToolButton;
class QWidget;

namespace sw {

class HelpWindow;

// The e-mail and web buttons, made on the main window.
class LinkButtons final : public QObject {
    Q_OBJECT

public:
    explicit LinkButtons(QWidget* window);
    // Clips the web button to its ellipse, once the window has its size.
    void makeRound();

signals:
    void mailClicked();
    void webClicked();

private:
    QToolButton* mail_ = nullptr;
    QToolButton* web_ = nullptr;
};

class Links final : public QObject {
    Q_OBJECT

public:
    // The help is looked for beside programDir; messages show over parent.
    Links(Shell& shell, const std::string& programDir, QWidget* parent);

    // The e-mail and web links the two buttons open.
    static std::string mailtoLink();
    static std::string webLink();

    void openMail();
    void openWeb();
    void showHelp();

private:
    void openOrSay(const std::string& link);

    Shell& shell_;
    QWidget* parent_;
    // The help's contents page, empty when none was found, and where it was looked for.
    std::string helpFile_;
    std::vector<std::string> helpSearched_;
    HelpWindow* helpWindow_ = nullptr;
};

}  // namespace sw
