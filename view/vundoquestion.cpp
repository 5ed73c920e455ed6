#include "view/vundoquestion.h"

#include "log/terminaltext.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

bool askToUndo(QWidget *parent, const UndoQuestion &question)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("VUndoQuestion", text); };
    QMessageBox box(parent);
    box.setWindowTitle(tr("Undo this run?"));
    box.setIcon(QMessageBox::Question);
    box.setTextFormat(Qt::PlainText);
    const QString changes = question.changes == 1 ? tr("1 change") : tr("%1 changes").arg(question.changes);
    // A journal's fields are a stranger's word: shown as the log shows text.
    box.setText(tr("Undo the run %1 of %2 (%3)?")
                    .arg(terminalText(question.journal, TerminalText::Raw),
                        terminalText(question.started, TerminalText::Raw), changes));
    box.setInformativeText(tr("Every change it made is taken back where the folder still matches it."));
    QPushButton *undo = box.addButton(tr("&Undo"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == undo;
}
