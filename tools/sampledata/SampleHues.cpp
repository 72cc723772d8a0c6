#include "SampleHues.h"

namespace {

struct Named {
    const char *name;
    QColor colour;
};

QColor mix(const QColor &a, const QColor &b, double t)
{
    auto ch = [t](int x, int y) { return qRound(x + (y - x) * t); };
    return QColor(ch(a.red(), b.red()), ch(a.green(), b.green()), ch(a.blue(), b.blue()));
}

// Base colours by family; the pale variants follow from them.
QVector<Named> bases()
{
    return {{"red", {200, 30, 30}},        {"crimson", {160, 20, 50}},    {"dark red", {110, 15, 15}},
            {"rose", {220, 110, 130}},     {"orange", {230, 120, 20}},    {"yellow", {230, 210, 40}},
            {"blue", {40, 70, 210}},       {"navy", {20, 30, 110}},       {"sky blue", {100, 170, 235}},
            {"ice", {170, 215, 240}},      {"teal", {20, 130, 130}},      {"cyan", {40, 200, 210}},
            {"green", {40, 160, 50}},      {"forest", {25, 90, 35}},      {"lime", {150, 215, 50}},
            {"olive", {120, 120, 40}},     {"mint", {120, 220, 170}},     {"purple", {120, 40, 160}},
            {"violet", {170, 110, 220}},   {"pink", {240, 140, 190}},     {"brown", {120, 75, 40}},
            {"tan", {200, 165, 115}},      {"grey", {128, 128, 128}},     {"charcoal", {60, 60, 64}},
            {"ash", {175, 170, 165}},      {"white", {235, 235, 235}},    {"gold", {215, 170, 50}},
            {"silver", {185, 190, 200}},   {"copper", {185, 100, 55}},    {"bronze", {160, 115, 55}},
            {"iron", {95, 95, 105}},       {"verdigris", {75, 150, 125}}, {"brass", {190, 160, 80}},
            {"steel", {120, 135, 150}},    {"obsidian", {35, 30, 45}},    {"amber", {220, 140, 30}},
            {"jade", {50, 150, 100}},      {"ruby", {180, 20, 60}},       {"sapphire", {30, 60, 170}},
            {"emerald", {20, 150, 80}},    {"amethyst", {140, 80, 180}},  {"sand", {215, 195, 140}},
            {"moss", {90, 120, 50}},       {"slate", {90, 100, 115}},     {"plum", {110, 40, 80}},
            {"coral", {240, 120, 90}},     {"lavender", {190, 170, 225}}, {"ochre", {200, 145, 40}},
            {"maroon", {100, 20, 35}},     {"indigo", {60, 40, 140}},     {"peach", {245, 185, 150}},
            {"rust", {165, 70, 30}},       {"highlight", {255, 235, 40}}, {"pale blue", {190, 205, 235}},
            {"pale green", {190, 230, 190}}, {"pale gold", {235, 215, 150}}};
}

quint16 gameColour(const QColor &c)
{
    return quint16((c.red() >> 3) << 10 | (c.green() >> 3) << 5 | (c.blue() >> 3));
}

} // namespace

QVector<quint16> SampleHues::ramp(const QColor &base)
{
    const QColor dark = mix(QColor(0, 0, 0), base, 0.08);
    const QColor light = mix(base, QColor(255, 255, 255), 0.6);
    QVector<quint16> ramp;
    for (int i = 0; i < 32; ++i) {
        const double t = i / 31.0;
        const QColor c = t < 0.65 ? mix(dark, base, t / 0.65) : mix(base, light, (t - 0.65) / 0.35);
        ramp.append(gameColour(c));
    }
    return ramp;
}

QVector<MulWriter::Hue> SampleHues::all()
{
    QVector<MulWriter::Hue> hues;
    for (const Named &n : bases()) {
        MulWriter::Hue h;
        h.colours = ramp(n.colour);
        h.tableStart = h.colours.first();
        h.tableEnd = h.colours.last();
        h.name = n.name;
        hues.append(h);
    }
    return hues;
}
