// The main window's ways out to other programs: the help at its contents page,
// an e-mail to the project and its web site, and the round web button. When
// nothing can open one, the user is told so.
#pragma once

#include <string>
#include <vector>

#include <QObject>

#include "desktop.h"

class QToolButton;
class QWidget;

namespace sw {

class HelpWindow;

class Links final : public QObject {
    Q_OBJECT

public:
    // The buttons are made on form; the help is looked for beside programDir.
    Links(QWidget* form, Shell& shell, const std::string& programDir);

    // The e-mail and web links the two buttons open.
    static std::string MailtoLink();
    static std::string WebLink();

    // Clips the web button to its ellipse.
    void MakeRoundButton();
    // The help at its contents page, in the program's own help window
    // (`mnuHelpContents_Click`).
    void ShowHelpContents();

private:
    void OpenLinkOrSay(const std::string& link);

    QWidget* form_;
    Shell& shell_;
    QToolButton* cmdMailto = nullptr;
    QToolButton* cmdWebLink = nullptr;
    // The help's contents page, empty when none was found, and where it was looked for.
    std::string mHelpFile;
    std::vector<std::string> mHelpSearched;
    HelpWindow* mHelpWindow = nullptr;
};

}  // namespace sw
