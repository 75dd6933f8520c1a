// Draws the main window's instrument picture: a total station on its tripod,
// 212 x 354 pixels, 24-bit colour on a pure white background (the window shows
// that white as transparent, so no part of the instrument itself is pure
// white). Build the target draw_instrument and run it with the output path:
//   draw_instrument forms/instrument.png

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

const QColor kOutline(58, 61, 66);
const QColor kDark(64, 67, 73);
const QColor kBodyLight(242, 242, 236);
const QColor kBodyShade(196, 197, 188);

QLinearGradient Across(qreal x0, qreal x1, QColor left, QColor right) {
    QLinearGradient g(x0, 0, x1, 0);
    g.setColorAt(0, left);
    g.setColorAt(1, right);
    return g;
}

QLinearGradient Down(qreal y0, qreal y1, QColor top, QColor bottom) {
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void Leg(QPainter& p, const QPolygonF& shape, qreal clampY) {
    // shape: top left, top right, bottom right, bottom left
    const QRectF box = shape.boundingRect();
    p.setPen(QPen(QColor(120, 84, 30), 1));
    p.setBrush(Across(box.left(), box.right(), QColor(238, 190, 92), QColor(190, 132, 48)));
    p.drawPolygon(shape);
    // leg clamp across the leg at clampY
    const qreal t = (clampY - box.top()) / box.height();
    const qreal left = shape[0].x() + (shape[3].x() - shape[0].x()) * t;
    const qreal right = shape[1].x() + (shape[2].x() - shape[1].x()) * t;
    p.setPen(Qt::NoPen);
    p.setBrush(kDark);
    p.drawRect(QRectF(left - 2, clampY, right - left + 4, 6));
}

void Foot(QPainter& p, QPointF tip, bool left) {
    QPolygonF shoe;
    shoe << QPointF(tip.x() + (left ? 3 : -3), tip.y() - 14) << QPointF(tip.x() + (left ? 13 : -13), tip.y() - 14)
         << QPointF(tip.x(), tip.y());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 94, 100));
    p.drawPolygon(shoe);
}

void DrawTripod(QPainter& p) {
    // rear leg between the two front legs
    Leg(p, QPolygonF({QPointF(98, 276), QPointF(114, 276), QPointF(109, 348), QPointF(103, 348)}), 312);
    Leg(p, QPolygonF({QPointF(42, 276), QPointF(62, 276), QPointF(22, 346), QPointF(8, 346)}), 306);
    Leg(p, QPolygonF({QPointF(150, 276), QPointF(170, 276), QPointF(204, 346), QPointF(190, 346)}), 306);
    Foot(p, QPointF(10, 353), true);
    Foot(p, QPointF(202, 353), false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 94, 100));
    p.drawRect(QRectF(102, 346, 8, 7));
    // tripod head
    p.setPen(QPen(kOutline, 1));
    p.setBrush(Down(264, 278, QColor(214, 217, 222), QColor(150, 154, 160)));
    p.drawRoundedRect(QRectF(34, 264, 144, 13), 3, 3);
}

void DrawBase(QPainter& p) {
    // tribrach
    QPolygonF tribrach;
    tribrach << QPointF(46, 236) << QPointF(166, 236) << QPointF(180, 256) << QPointF(32, 256);
    p.setPen(QPen(kOutline, 1));
    p.setBrush(Down(236, 256, QColor(92, 96, 104), QColor(48, 50, 56)));
    p.drawPolygon(tribrach);
    p.setBrush(Down(255, 265, QColor(120, 124, 132), QColor(70, 73, 80)));
    p.drawRect(QRectF(30, 255, 152, 9));
    // levelling screws
    for (const QPointF c : {QPointF(46, 258), QPointF(166, 258), QPointF(106, 262)}) {
        QRadialGradient g(c - QPointF(2, 2), 8);
        g.setColorAt(0, QColor(170, 174, 180));
        g.setColorAt(1, QColor(40, 42, 46));
        p.setBrush(g);
        p.drawEllipse(c, 8, 6);
    }
}

void DrawBody(QPainter& p) {
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(Across(24, 188, kBodyLight, kBodyShade));
    p.drawRoundedRect(QRectF(24, 146, 164, 90), 8, 8);

    // display: dark bezel, green liquid-crystal screen, lines of characters
    p.setBrush(QColor(43, 46, 51));
    p.drawRoundedRect(QRectF(40, 155, 132, 34), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(Down(159, 185, QColor(190, 212, 184), QColor(150, 178, 146)));
    p.drawRect(QRectF(44, 159, 124, 26));
    p.setBrush(QColor(40, 56, 40));
    const int lineChars[3] = {9, 14, 11};
    for (int line = 0; line < 3; ++line)
        for (int ch = 0; ch < lineChars[line]; ++ch)
            if ((ch * 7 + line * 3) % 5 != 0)
                p.drawRect(QRectF(48 + ch * 8, 162 + line * 7, 5, 5));

    // keypad: two rows of keys, one yellow
    for (int row = 0; row < 2; ++row) {
        for (int key = 0; key < 6; ++key) {
            const QRectF r(47 + key * 20, 195 + row * 14, 14, 9);
            const bool yellow = row == 0 && key == 5;
            p.setPen(QPen(QColor(30, 32, 36), 1));
            p.setBrush(Down(r.top(), r.bottom(), yellow ? QColor(250, 210, 80) : QColor(110, 114, 122),
                            yellow ? QColor(210, 160, 30) : QColor(50, 53, 60)));
            p.drawRoundedRect(r, 2, 2);
        }
    }
    // maker's stripe
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 184, 40));
    p.drawRect(QRectF(25, 225, 162, 4));
}

void DrawTelescope(QPainter& p) {
    // handle
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kDark);
    p.drawRoundedRect(QRectF(64, 6, 84, 11), 5, 5);
    p.drawRect(QRectF(70, 14, 9, 18));
    p.drawRect(QRectF(133, 14, 9, 18));

    // standards
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(Across(32, 74, kBodyLight, kBodyShade));
    p.drawRoundedRect(QRectF(32, 30, 42, 120), 6, 6);
    p.setBrush(Across(138, 180, kBodyLight, kBodyShade));
    p.drawRoundedRect(QRectF(138, 30, 42, 120), 6, 6);

    // tangent screws at the sides
    p.setBrush(QColor(52, 55, 60));
    p.drawRoundedRect(QRectF(22, 62, 11, 16), 3, 3);
    p.drawRoundedRect(QRectF(179, 104, 11, 16), 3, 3);

    // horizontal axis hubs
    for (const QPointF c : {QPointF(53, 90), QPointF(159, 90)}) {
        QRadialGradient g(c - QPointF(3, 3), 14);
        g.setColorAt(0, QColor(150, 154, 160));
        g.setColorAt(1, QColor(60, 63, 68));
        p.setBrush(g);
        p.drawEllipse(c, 12, 12);
    }

    // telescope body between the standards, and its sight on top
    p.setBrush(Across(74, 138, QColor(96, 100, 108), QColor(46, 48, 54)));
    p.drawRoundedRect(QRectF(74, 46, 64, 88), 8, 8);
    p.setBrush(QColor(40, 42, 46));
    p.drawRect(QRectF(97, 36, 18, 10));

    // objective: metal ring, then the glass with a soft reflection
    QRadialGradient ring(QPointF(100, 84), 34);
    ring.setColorAt(0, QColor(140, 144, 150));
    ring.setColorAt(1, QColor(54, 57, 62));
    p.setBrush(ring);
    p.drawEllipse(QPointF(106, 90), 30, 30);
    QRadialGradient glass(QPointF(98, 82), 26);
    glass.setColorAt(0, QColor(120, 160, 200));
    glass.setColorAt(0.6, QColor(36, 62, 96));
    glass.setColorAt(1, QColor(12, 22, 36));
    p.setPen(QPen(QColor(20, 22, 26), 1));
    p.setBrush(glass);
    p.drawEllipse(QPointF(106, 90), 23, 23);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 226, 246, 170));
    p.drawEllipse(QRectF(92, 75, 12, 8));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_instrument OUTPUT.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QImage image(212, 354, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawTripod(p);
    DrawBase(p);
    DrawBody(p);
    DrawTelescope(p);
    p.end();

    if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
