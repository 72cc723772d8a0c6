#pragma once

#include <QColor>
#include <QColorDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

// The one seam through which every standard dialog is asked. The editor uses
// the static helpers below; tests install their own provider so no test ever
// waits for a person.
class DialogProvider
{
public:
    virtual ~DialogProvider() = default;

    virtual QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter);
    // selectedFilter: in = the filter to preselect (may be empty), out = the one chosen.
    virtual QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter, QString *selectedFilter);
    virtual QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir);
    virtual int getInt(QWidget *parent, const QString &title, const QString &label, int value,
                       int min, int max, int step, bool *ok);
    virtual QString getText(QWidget *parent, const QString &title, const QString &label,
                            QLineEdit::EchoMode mode, const QString &text, bool *ok);
    virtual QString getItem(QWidget *parent, const QString &title, const QString &label,
                            const QStringList &items, int current, bool editable, bool *ok);
    virtual QMessageBox::StandardButton question(QWidget *parent, const QString &title,
                                                 const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton);
    virtual void warning(QWidget *parent, const QString &title, const QString &text);
    virtual void about(QWidget *parent, const QString &title, const QString &text);
    // Returns an invalid colour when cancelled.
    virtual QColor getColor(QWidget *parent, const QColor &initial, const QString &title,
                            QColorDialog::ColorDialogOptions options);
    // Runs a modal dialog (exec) and returns its result.
    virtual int exec(class QDialog *dialog);
    // A message with buttons of its own: the index of the one pressed, -1 when closed.
    virtual int choose(QWidget *parent, const QString &title, const QString &text,
                       const QStringList &buttons, int defaultButton);
};

namespace Dialogs {
DialogProvider &provider();
// Installs a provider (tests); nullptr restores the real dialogs. Not owned.
void setProvider(DialogProvider *p);

// The file dialogs start in `dir`; an empty one, or a bare file name, starts
// in the last folder a file dialog gave, which is then remembered.
QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                        const QString &filter);
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                        const QString &filter, QString *selectedFilter = nullptr);
QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir);
// The last folder a file dialog gave (kept in the settings); empty at first.
QString lastFolder();
inline int getInt(QWidget *parent, const QString &title, const QString &label, int value, int min,
                  int max, int step, bool *ok)
{ return provider().getInt(parent, title, label, value, min, max, step, ok); }
inline QString getText(QWidget *parent, const QString &title, const QString &label,
                       QLineEdit::EchoMode mode, const QString &text, bool *ok)
{ return provider().getText(parent, title, label, mode, text, ok); }
inline QString getItem(QWidget *parent, const QString &title, const QString &label,
                       const QStringList &items, int current, bool editable, bool *ok)
{ return provider().getItem(parent, title, label, items, current, editable, ok); }
inline QMessageBox::StandardButton question(QWidget *parent, const QString &title,
                                            const QString &text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton)
{ return provider().question(parent, title, text, buttons, defaultButton); }
inline void warning(QWidget *parent, const QString &title, const QString &text)
{ provider().warning(parent, title, text); }
inline void about(QWidget *parent, const QString &title, const QString &text)
{ provider().about(parent, title, text); }
inline QColor getColor(QWidget *parent, const QColor &initial, const QString &title,
                       QColorDialog::ColorDialogOptions options)
{ return provider().getColor(parent, initial, title, options); }
inline int exec(QDialog *dialog) { return provider().exec(dialog); }
inline int choose(QWidget *parent, const QString &title, const QString &text,
                  const QStringList &buttons, int defaultButton = 0)
{ return provider().choose(parent, title, text, buttons, defaultButton); }
} // namespace Dialogs
