// Opening links with the desktop's default programs, through Qt.
#include "qtshell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace sw::qt {

bool QtShell::openLink(const std::string& target) {
    const QString text = QString::fromStdString(target);
    QUrl url(text, QUrl::TolerantMode);
    // A bare host name ("www.example.org") or a plain path has no scheme; QUrl
    // itself writes a scheme ("Mailto:") in lower case.
    if (url.scheme().isEmpty()) {
        url = QFileInfo::exists(text) ? QUrl::fromLocalFile(text) : QUrl("http://" + text);
    }
    return QDesktopServices::openUrl(url);
}

}  // namespace sw::qt
