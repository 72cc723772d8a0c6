#include "ui/Dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>

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
    return QInputDialog::getInt(parent, title, label, value, min, max, step, ok);
}

QString DialogProvider::getText(QWidget *parent, const QString &title, const QString &label,
                                QLineEdit::EchoMode mode, const QString &text, bool *ok)
{
    return QInputDialog::getText(parent, title, label, mode, text, ok);
}

QString DialogProvider::getItem(QWidget *parent, const QString &title, const QString &label,
                                const QStringList &items, int current, bool editable, bool *ok)
{
    return QInputDialog::getItem(parent, title, label, items, current, editable, ok);
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
