#include "ScriptedDialogs.h"

#include <QDialog>

ScriptedDialogs::Answer ScriptedDialogs::ask(const Call &call)
{
    calls.append(call);
    return answers.isEmpty() ? Answer{} : answers.takeFirst();
}

int ScriptedDialogs::count(const QString &kind) const
{
    int n = 0;
    for (const Call &c : calls)
        n += c.kind == kind;
    return n;
}

const ScriptedDialogs::Call *ScriptedDialogs::last(const QString &kind) const
{
    for (int i = calls.size() - 1; i >= 0; --i)
        if (calls[i].kind == kind)
            return &calls[i];
    return nullptr;
}

QString ScriptedDialogs::getOpenFileName(QWidget *, const QString &caption, const QString &dir,
                                         const QString &filter)
{
    const Answer a = ask({"open", caption, dir, filter, {}, 0, 0});
    return a.ok ? a.value.toString() : QString();
}

QString ScriptedDialogs::getSaveFileName(QWidget *, const QString &caption, const QString &dir,
                                         const QString &filter, QString *selectedFilter)
{
    const Answer a = ask({"save", caption, dir, filter, selectedFilter ? QVariant(*selectedFilter) : QVariant(), 0, 0});
    if (a.ok && selectedFilter)
        *selectedFilter = a.filter;
    return a.ok ? a.value.toString() : QString();
}

QString ScriptedDialogs::getExistingDirectory(QWidget *, const QString &caption, const QString &dir)
{
    const Answer a = ask({"dir", caption, dir, {}, {}, 0, 0});
    return a.ok ? a.value.toString() : QString();
}

int ScriptedDialogs::getInt(QWidget *, const QString &title, const QString &label, int value,
                            int min, int max, int, bool *ok)
{
    const Answer a = ask({"int", title, label, {}, value, min, max});
    if (ok)
        *ok = a.ok;
    return a.ok ? a.value.toInt() : value;
}

QString ScriptedDialogs::getText(QWidget *, const QString &title, const QString &label,
                                 QLineEdit::EchoMode, const QString &text, bool *ok)
{
    const Answer a = ask({"text", title, label, {}, text, 0, 0});
    if (ok)
        *ok = a.ok;
    return a.ok ? a.value.toString() : QString();
}

QString ScriptedDialogs::getItem(QWidget *, const QString &title, const QString &label,
                                 const QStringList &items, int current, bool, bool *ok)
{
    const Answer a = ask({"item", title, label, items.join('|'), current, 0, 0});
    if (ok)
        *ok = a.ok;
    return a.ok ? a.value.toString() : QString();
}

QMessageBox::StandardButton ScriptedDialogs::question(QWidget *, const QString &title,
                                                      const QString &text,
                                                      QMessageBox::StandardButtons,
                                                      QMessageBox::StandardButton)
{
    const Answer a = ask({"question", title, text, {}, {}, 0, 0});
    return a.ok ? QMessageBox::StandardButton(a.value.toInt()) : QMessageBox::Cancel;
}

void ScriptedDialogs::warning(QWidget *, const QString &title, const QString &text)
{
    calls.append({"warning", title, text, {}, {}, 0, 0});
}

void ScriptedDialogs::about(QWidget *, const QString &title, const QString &text)
{
    calls.append({"about", title, text, {}, {}, 0, 0});
}

QColor ScriptedDialogs::getColor(QWidget *, const QColor &initial, const QString &title,
                                 QColorDialog::ColorDialogOptions)
{
    const Answer a = ask({"color", title, {}, {}, initial, 0, 0});
    return a.ok ? a.value.value<QColor>() : QColor();
}

int ScriptedDialogs::exec(QDialog *dialog)
{
    const Answer a = ask({"exec", dialog->windowTitle(), {}, {}, {}, 0, 0});
    if (a.prepare)
        a.prepare(dialog);
    const int result = a.ok ? a.value.toInt() : QDialog::Rejected;
    if (result == QDialog::Accepted)
        dialog->accept();
    else
        dialog->reject();
    return result;
}

int ScriptedDialogs::choose(QWidget *, const QString &title, const QString &text,
                            const QStringList &buttons, int defaultButton)
{
    const Answer a = ask({"choose", title, text, buttons.join('|'), defaultButton, 0, 0});
    return a.ok ? a.value.toInt() : -1;
}
