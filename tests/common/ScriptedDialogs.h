#pragma once

#include "ui/Dialogs.h"

#include <QList>
#include <QVariant>

#include <functional>

// Answers every standard dialog from a queue and remembers what was asked.
// An empty queue answers "cancel", so a forgotten answer never blocks a test.
class ScriptedDialogs : public DialogProvider
{
public:
    struct Call {
        QString kind;   // "open", "save", "dir", "int", "text", "item", "question", "warning", "about", "color", "exec", "choose"
        QString title;  // caption or title
        QString text;   // label or message text
        QString filter; // file filters, or items joined by "|"
        QVariant value; // start value of int dialogs, current item, initial colour, preselected filter
        int min = 0, max = 0;
    };
    struct Answer {
        bool ok = false;
        QVariant value;       // file name, int, text, item, StandardButton, QColor, dialog result
        QString filter;       // the chosen file filter
        std::function<void(QDialog *)> prepare; // exec: works the dialog before it closes
    };

    ScriptedDialogs() { Dialogs::setProvider(this); }
    ~ScriptedDialogs() override { Dialogs::setProvider(nullptr); }

    void answer(const QVariant &value, const QString &filter = QString())
    { answers.append({true, value, filter, {}}); }
    void cancel() { answers.append({false, QVariant(), QString(), {}}); }
    // An exec answered with result after prepare has worked the dialog as a user would.
    void answerExec(int result, std::function<void(QDialog *)> prepare)
    { answers.append({true, result, QString(), std::move(prepare)}); }
    int count(const QString &kind) const;
    const Call *last(const QString &kind) const;

    QList<Answer> answers;
    QList<Call> calls;

    QString getOpenFileName(QWidget *, const QString &caption, const QString &dir,
                            const QString &filter) override;
    QString getSaveFileName(QWidget *, const QString &caption, const QString &dir,
                            const QString &filter, QString *selectedFilter) override;
    QString getExistingDirectory(QWidget *, const QString &caption, const QString &dir) override;
    int getInt(QWidget *, const QString &title, const QString &label, int value, int min, int max,
               int step, bool *ok) override;
    QString getText(QWidget *, const QString &title, const QString &label, QLineEdit::EchoMode,
                    const QString &text, bool *ok) override;
    QString getItem(QWidget *, const QString &title, const QString &label,
                    const QStringList &items, int current, bool editable, bool *ok) override;
    QMessageBox::StandardButton question(QWidget *, const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override;
    void warning(QWidget *, const QString &title, const QString &text) override;
    void about(QWidget *, const QString &title, const QString &text) override;
    QColor getColor(QWidget *, const QColor &initial, const QString &title,
                    QColorDialog::ColorDialogOptions options) override;
    int exec(QDialog *dialog) override;
    // Answered by the index of a button; an empty queue closes it (-1).
    int choose(QWidget *, const QString &title, const QString &text, const QStringList &buttons,
               int defaultButton) override;

private:
    // Records the call and takes the next answer.
    Answer ask(const Call &call);
};
