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
    void ShowContents(const std::string& contentsPath);

private:
    void FollowLink(const QUrl& link);

    QTextBrowser* browser = nullptr;
    QToolButton* cmdBack = nullptr;
    QToolButton* cmdForward = nullptr;
    QToolButton* cmdContents = nullptr;
    Shell& shell_;
    QUrl contents_;
};

}  // namespace sw
