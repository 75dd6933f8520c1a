#include "ui/FormLook.h"

#include <QAbstractButton>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QRect>
#include <QWidget>

void RegisterFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Tahoma"),
                                QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("Noto Sans"), QStringLiteral("FreeSans")});
    QFont::insertSubstitutions(QStringLiteral("Verdana"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Bitstream Vera Sans"),
                                QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("Noto Sans"), QStringLiteral("FreeSans")});
    QFont::insertSubstitutions(QStringLiteral("Fixedsys"),
                               {QStringLiteral("Fixedsys Excelsior 3.01"), QStringLiteral("DejaVu Sans Mono"),
                                QStringLiteral("Liberation Mono"), QStringLiteral("Noto Mono"),
                                QStringLiteral("Courier New"), QStringLiteral("FreeMono")});
}

void AutoSizeLabel(QLabel& label) {
    if (label.text().isEmpty() || !label.pixmap().isNull()) return;
    label.ensurePolished();
    QRect bounds = label.geometry();
    if (label.wordWrap()) {
        bounds.setHeight(label.heightForWidth(bounds.width()));
    } else {
        const QSize text = label.sizeHint();
        if (label.alignment() & Qt::AlignRight)
            bounds.setLeft(bounds.left() + bounds.width() - text.width());
        else
            bounds.setWidth(text.width());
        bounds.setHeight(text.height());
    }
    label.setGeometry(bounds);
}

void AutoSizeLabels(QWidget& form) {
    for (QLabel* label : form.findChildren<QLabel*>()) AutoSizeLabel(*label);
}

void CentreIn(QWidget& window, const QRect& area) {
    window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
}

bool PressOnEscape(const QKeyEvent& event, QAbstractButton& button) {
    if (event.key() != Qt::Key_Escape || event.modifiers() != Qt::NoModifier) return false;
    button.click();
    return true;
}
