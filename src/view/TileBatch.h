#pragma once

#include "view/TexAtlas.h"

#include <QPoint>

#include <vector>

// The tile quads of one paint, collected in painter's order and drawn from
// the atlas in a few calls: opaque quads front to back with the depth test
// (a hidden fragment is rejected before it is textured, and the alpha test
// keeps transparent texels out of colour and depth), then the blended quads
// in painter's order, tested against the opaque ones in front of them. The
// pixels are those of drawing every quad back to front with blending.
class TileBatch
{
public:
    void clear();
    // corners: scene units, top-left, top-right, bottom-right, bottom-left;
    // blended: translucent art, or an image with partly transparent texels.
    // light: the share of its brightness the tile is drawn at (dimmed storeys).
    void add(const AtlasEntry &entry, const QPoint corners[4], double scale, bool blended,
             float light = 1.0f);
    // Needs the scene's projection and a model-view matrix that keeps z.
    void draw();

    int size() const { return int(m_quads.size()); }

    struct Vertex {
        float x, y, z, s, t, r, g, b;
    };
    struct Quad {
        quint32 texture;
        bool blended;
        Vertex v[4];
    };
    // The quads added since the last clear(), in painter's order; a quad of
    // one batch can be added to another.
    const std::vector<Quad> &quads() const { return m_quads; }
    void add(const Quad &q) { m_quads.push_back(q); }
    // Draw calls of the last draw() since the last clear().
    int drawCalls() const { return m_drawCalls; }

private:
    // Quads share the depth of their painter's order: later ones lie in front.
    void setDepth(Quad &q, size_t order) const;
    void drawOpaque();
    void drawBlended(bool depthTested);
    void addToPass(const Quad &q);
    void drawPass();

    std::vector<Quad> m_quads;
    // The quads of one pass: their vertices side by side, and each quad's page.
    std::vector<Vertex> m_passVertices;
    std::vector<quint32> m_passPages;
    int m_drawCalls = 0;
};
