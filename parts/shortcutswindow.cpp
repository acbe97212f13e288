// The shortcuts window.
#include "shortcutswindow.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>

namespace sw {
namespace {

constexpr const char* kNotUsable =
    "not usable: a letter, a digit or F1-F24, with Ctrl, Alt or Meta (F-keys alone too)";

}  // namespace

ShortcutsWindow::ShortcutsWindow(GlobalShortcuts& shortcuts, QWidget* owner)
    : QDialog(owner), shortcuts_(shortcuts) {
    setObjectName("shortcutsWindow");
    setWindowTitle("Shortcuts");
    setAttribute(Qt::WA_DeleteOnClose);
    createRows();
    showRefusals();
}

void ShortcutsWindow::createRows() {
    auto* grid = new QGridLayout(this);
    for (int a = 0; a < kShortcutActions; ++a) {
        const auto i = static_cast<std::size_t>(a);
        const QString label = QString::fromStdString(shortcutAction(a).label);
        grid->addWidget(new QLabel(label, this), a, 0);
        edits_[i] = new QKeySequenceEdit(
            QKeySequence(QString::fromStdString(shortcutText(shortcuts_.shortcuts()[i])),
                         QKeySequence::PortableText),
            this);
        edits_[i]->setObjectName(QString("shortcut%1").arg(a));
        edits_[i]->setAccessibleName(label + " shortcut");
        edits_[i]->setClearButtonEnabled(true);
        // One key with its modifiers: a sequence of several is cut to its first.
        connect(edits_[i], &QKeySequenceEdit::editingFinished, edits_[i], [edit = edits_[i]] {
            if (edit->keySequence().count() > 1)
                edit->setKeySequence(QKeySequence(edit->keySequence()[0]));
        });
        grid->addWidget(edits_[i], a, 1);
        notes_[i] = new QLabel(this);
        notes_[i]->setObjectName(QString("shortcutNote%1").arg(a));
        grid->addWidget(notes_[i], a, 2);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    grid->addWidget(buttons, kShortcutActions, 0, 1, 3);
    connect(buttons, &QDialogButtonBox::accepted, this, &ShortcutsWindow::apply);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void ShortcutsWindow::showRefusals() {
    for (std::size_t i = 0; i < notes_.size(); ++i)
        notes_[i]->setText(QString::fromStdString(shortcuts_.refusals()[i]));
}

void ShortcutsWindow::apply() {
    ShortcutSet wanted{};
    bool usable = true;
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        const std::string text =
            edits_[i]->keySequence().toString(QKeySequence::PortableText).toStdString();
        const auto shortcut = shortcutFromText(text);
        if (!text.empty() && !shortcut) {
            notes_[i]->setText(kNotUsable);
            usable = false;
        }
        wanted[i] = shortcut.value_or(Shortcut{});
    }
    if (!usable) return;
    shortcuts_.setShortcuts(wanted);
    showRefusals();
    const auto& refusals = shortcuts_.refusals();
    if (std::all_of(refusals.begin(), refusals.end(), [](const auto& r) { return r.empty(); }))
        accept();
}

}  // namespace sw
