// The help viewer: the program's HTML help pages in a window of the program's
// own, with Back, Forward and Contents, so that help needs neither a network
// nor a web browser. Links that leave the help go to the desktop's opener.
#pragma once

#include <string>

#include <QUrl>
#include <QWidget>

#include "desktop.h"

class QTextBrowser;
class QToolButton;

namespace sw {

class HelpWindow final : public QWidget {
public:
    HelpWindow(Shell& shell, QWidget* owner);

    // Shows the help's contents page (a full path to index.html).
    void showContents(const std::string& contentsPath);

private:
    void followLink(const QUrl& link);

    QTextBrowser* browser_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* forward_ = nullptr;
    QToolButton* home_ = nullptr;  // the contents page
    Shell& shell_;
    QUrl contents_;
};

}  // namespace sw
