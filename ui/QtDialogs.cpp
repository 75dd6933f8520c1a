#include "ui/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

namespace {

// "*.XYZ" -> "*.[Xx][Yy][Zz]"; "*.*" -> "*".
QString PatternForQt(const QString& pattern) {
    if (pattern == QLatin1String("*.*")) return QStringLiteral("*");
    QString result;
    for (const QChar c : pattern) {
        if (c.toUpper() != c.toLower())
            result += QLatin1Char('[') + c.toUpper() + c.toLower() + QLatin1Char(']');
        else
            result += c;
    }
    return result;
}

// A CR LF (or a lone CR) starts a new line.
QString WithPlainLineBreaks(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void ShowBox(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), WithPlainLineBreaks(text),
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

bool InstallQtTranslations(QTranslator& translator, const QLocale& locale) {
    return translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
           QCoreApplication::installTranslator(&translator);
}

QStringList NameFiltersOf(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << PatternForQt(pattern.trimmed());
        result << parts[i] + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

void PrepareFileDialog(QFileDialog& qtDialog, const FileDialog& dialog) {
    qtDialog.setOption(QFileDialog::DontUseNativeDialog);
    qtDialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = NameFiltersOf(dialog.Filter);
    qtDialog.setNameFilters(filters);
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size())
        qtDialog.selectNameFilter(filters[dialog.FilterIndex - 1]);
    if (dialog.kind == FileDialog::Kind::Open) {
        qtDialog.setAcceptMode(QFileDialog::AcceptOpen);
        qtDialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        qtDialog.setAcceptMode(QFileDialog::AcceptSave);
        qtDialog.setFileMode(QFileDialog::AnyFile);
        qtDialog.setDefaultSuffix(dialog.DefaultExt);
    }
    if (!dialog.FileName.isEmpty()) qtDialog.selectFile(dialog.FileName);
}

void ReadBackFileDialog(const QFileDialog& qtDialog, FileDialog& dialog) {
    const QStringList files = qtDialog.selectedFiles();
    if (!files.isEmpty()) dialog.FileName = files.first();
    // The dialog names the chosen filter by its description alone while the
    // patterns are hidden.
    const QString chosen = qtDialog.selectedNameFilter();
    const QStringList filters = qtDialog.nameFilters();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (filters[i] == chosen || filters[i].startsWith(chosen + QLatin1String(" ("))) {
            dialog.FilterIndex = static_cast<int>(i) + 1;
            return;
        }
    }
}

bool QtDialogs::Execute(FileDialog& dialog) {
    QFileDialog qtDialog(QApplication::activeWindow());
    PrepareFileDialog(qtDialog, dialog);
    if (qtDialog.exec() != QDialog::Accepted) return false;
    ReadBackFileDialog(qtDialog, dialog);
    return true;
}

void QtDialogs::ShowMessage(const QString& text) { ShowBox(QMessageBox::NoIcon, text); }

void QtDialogs::ShowError(const QString& text) { ShowBox(QMessageBox::Critical, text); }

QString QtDialogs::InputBox(const QString& caption, const QString& prompt, const QString& defaultText) {
    QInputDialog input(QApplication::activeWindow());
    input.setInputMode(QInputDialog::TextInput);
    input.setWindowTitle(caption);
    input.setLabelText(prompt);
    // The entry takes up to 255 characters.
    if (auto* entry = input.findChild<QLineEdit*>()) entry->setMaxLength(255);
    input.setTextValue(defaultText);
    return input.exec() == QDialog::Accepted ? input.textValue() : defaultText;
}

void QtDialogs::Beep() { QApplication::beep(); }
