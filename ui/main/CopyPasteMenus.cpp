#include "CopyPasteMenus.h"

#include "CheckView.h"
#include "ClipboardText.h"
#include "TextBox.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

namespace parlowen {

CopyPasteMenus::CopyPasteMenus(QWidget& mainWindow, const MainWindowControls& controls)
    : mainWindow_(mainWindow) {
    // The menus belong to the window, so that they pop up over it and go with it.
    copyMenu_ = new QMenu(QStringLiteral("テキストコピー"), &mainWindow_);
    copyAction_ = copyMenu_->addAction(QStringLiteral("コピー(&C)"));
    pasteMenu_ = new QMenu(QStringLiteral("テキストペースト"), &mainWindow_);
    pasteAction_ = pasteMenu_->addAction(QStringLiteral("ペースト(&V)"));

    // The text controls leave the copy and paste keys to these actions.
    copyAction_->setShortcuts(QKeySequence::Copy);
    pasteAction_->setShortcuts(QKeySequence::Paste);
    // Not in the palette, which is a window of this one but has its own keys.
    copyAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    pasteAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    mainWindow_.addAction(copyAction_);
    mainWindow_.addAction(pasteAction_);

    connect(copyAction_, &QAction::triggered, this, &CopyPasteMenus::onCopyTriggered);
    connect(pasteAction_, &QAction::triggered, this, &CopyPasteMenus::onPasteTriggered);
    connect(controls.checkView, &CheckView::MouseDown, this, &CopyPasteMenus::onCheckViewMousePressed);
    for (TextBox* box : controls.speakerKeywordBox) {
        connect(box, &TextBox::MouseDown, this, &CopyPasteMenus::onSpeakerKeywordMousePressed);
    }
}

void CopyPasteMenus::onCheckViewMousePressed(Qt::MouseButton button, QPoint position) {
    if (button == Qt::RightButton) {
        copyMenu_->popup(position);
    }
}

void CopyPasteMenus::onSpeakerKeywordMousePressed(Qt::MouseButton button, QPoint position) {
    // The same menu for every box; the paste goes to whichever control has the focus.
    if (button == Qt::RightButton) {
        pasteMenu_->popup(position);
    }
}

void CopyPasteMenus::onCopyTriggered() {
    QWidget* focused = mainWindow_.focusWidget();
    QString selected;
    if (auto* box = qobject_cast<QLineEdit*>(focused)) {
        selected = KeywordCut(box->selectedText());
    } else if (auto* view = qobject_cast<CheckView*>(focused)) {
        selected = view->SelectedText();
    } else {
        return; // a button, the check box or the list has no text to copy; the clipboard keeps its own
    }
    QGuiApplication::clipboard()->setText(selected);
}

void CopyPasteMenus::onPasteTriggered() {
    QWidget* focused = mainWindow_.focusWidget();
    const QString pasted = QGuiApplication::clipboard()->text();
    if (auto* box = qobject_cast<TextBox*>(focused)) {
        box->PasteText(pasted);
    } else if (auto* view = qobject_cast<CheckView*>(focused)) {
        view->PasteText(pasted);
    }
}

} // namespace parlowen
