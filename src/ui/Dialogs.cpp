#include "ui/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSettings>

namespace {
const QString lastFolderKey = QStringLiteral("LastFolder");
// Room beside a title for the window's icon and buttons.
constexpr int TitleBarExtra = 160;

QSettings folderSettings()
{
    return QSettings(QStringLiteral("Brightmoor"), QStringLiteral("MultiEditorWindow"));
}

QString startIn(const QString &dir)
{
    const QString last = Dialogs::lastFolder();
    if (last.isEmpty() || (!dir.isEmpty() && dir.contains(QLatin1Char('/'))))
        return dir;
    return dir.isEmpty() ? last : QDir(last).filePath(dir);
}

QString remembered(const QString &chosen, bool isFolder)
{
    if (!chosen.isEmpty())
        folderSettings().setValue(lastFolderKey,
                                  isFolder ? chosen : QFileInfo(chosen).absolutePath());
    return chosen;
}

// A title that does not fit is cut in the middle by the window manager.
void fitTitle(QDialog &dialog)
{
    const int wanted = dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) + TitleBarExtra;
    // The input dialog's layout sets its minimum size: widen the label inside it.
    if (auto *label = dialog.findChild<QLabel *>()) {
        const QMargins m = dialog.layout() ? dialog.layout()->contentsMargins() : QMargins();
        label->setMinimumWidth(qMax(label->minimumWidth(), wanted - m.left() - m.right()));
    }
    dialog.setMinimumWidth(qMax(dialog.minimumWidth(), wanted));
}
} // namespace

QString Dialogs::lastFolder()
{
    return folderSettings().value(lastFolderKey).toString();
}

QString Dialogs::getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter)
{
    return remembered(provider().getOpenFileName(parent, caption, startIn(dir), filter), false);
}

QString Dialogs::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter, QString *selectedFilter)
{
    return remembered(provider().getSaveFileName(parent, caption, startIn(dir), filter, selectedFilter),
                      false);
}

QString Dialogs::getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    return remembered(provider().getExistingDirectory(parent, caption, startIn(dir)), true);
}

QString DialogProvider::getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                        const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString DialogProvider::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                        const QString &filter, QString *selectedFilter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
}

QString DialogProvider::getExistingDirectory(QWidget *parent, const QString &caption,
                                             const QString &dir)
{
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

int DialogProvider::getInt(QWidget *parent, const QString &title, const QString &label, int value,
                           int min, int max, int step, bool *ok)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setIntRange(min, max);
    dialog.setIntValue(value);
    dialog.setIntStep(step);
    fitTitle(dialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (ok)
        *ok = accepted;
    return accepted ? dialog.intValue() : value;
}

QString DialogProvider::getText(QWidget *parent, const QString &title, const QString &label,
                                QLineEdit::EchoMode mode, const QString &text, bool *ok)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextEchoMode(mode);
    dialog.setTextValue(text);
    fitTitle(dialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (ok)
        *ok = accepted;
    return accepted ? dialog.textValue() : QString();
}

QString DialogProvider::getItem(QWidget *parent, const QString &title, const QString &label,
                                const QStringList &items, int current, bool editable, bool *ok)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(editable);
    if (current >= 0 && current < items.size())
        dialog.setTextValue(items.at(current));
    fitTitle(dialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (ok)
        *ok = accepted;
    return accepted ? dialog.textValue() : (current >= 0 && current < items.size() ? items.at(current) : QString());
}

QMessageBox::StandardButton DialogProvider::question(QWidget *parent, const QString &title,
                                                     const QString &text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::question(parent, title, text, buttons, defaultButton);
}

void DialogProvider::warning(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}

void DialogProvider::about(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::about(parent, title, text);
}

QColor DialogProvider::getColor(QWidget *parent, const QColor &initial, const QString &title,
                                QColorDialog::ColorDialogOptions options)
{
    return QColorDialog::getColor(initial, parent, title, options);
}

int DialogProvider::exec(QDialog *dialog)
{
    return dialog->exec();
}

int DialogProvider::choose(QWidget *parent, const QString &title, const QString &text,
                           const QStringList &buttons, int defaultButton)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> made;
    for (const QString &label : buttons)
        made.append(box.addButton(label, QMessageBox::ActionRole));
    if (defaultButton >= 0 && defaultButton < made.size())
        box.setDefaultButton(qobject_cast<QPushButton *>(made.at(defaultButton)));
    box.exec();
    return int(made.indexOf(box.clickedButton()));
}

namespace {
DialogProvider realDialogs;
DialogProvider *current = nullptr;
} // namespace

DialogProvider &Dialogs::provider()
{
    return current ? *current : realDialogs;
}

void Dialogs::setProvider(DialogProvider *p)
{
    current = p;
}
