#include "view/TileBatch.h"

#include "scene/IsoGeometry.h"

#include <GL/gl.h>

#include <algorithm>
#include <iterator>

namespace {
// Orders a 24-bit depth buffer tells apart with room to spare; beyond them
// the quads are drawn back to front with blending instead.
constexpr size_t MaxDepthOrders = size_t(1) << 22;
constexpr int CornersPerQuad = 4;
// Each quad as two triangles split along the same diagonal as the per-tile drawing.
constexpr int Triangulation[] = {0, 1, 2, 0, 2, 3};
constexpr int VerticesPerQuad = int(std::size(Triangulation));
} // namespace

void TileBatch::clear()
{
    m_quads.clear();
    m_drawCalls = 0;
}

void TileBatch::add(const AtlasEntry &entry, const QPoint corners[4], double scale, bool blended,
                    float light)
{
    Quad q;
    q.texture = entry.texture;
    q.blended = blended;
    // On whole pixels, as the per-tile drawing puts them.
    float s[4], t[4];
    IsoGeometry::texCoords(corners, scale, entry.u0, entry.v0, entry.u1, entry.v1, entry.width,
                           entry.height, s, t);
    for (int i = 0; i < CornersPerQuad; ++i) {
        q.v[i].x = float(IsoGeometry::snap(corners[i].x(), scale) / scale);
        q.v[i].y = float(IsoGeometry::snap(corners[i].y(), scale) / scale);
        q.v[i].z = 0.0f;
        q.v[i].s = s[i];
        q.v[i].t = t[i];
        q.v[i].r = q.v[i].g = q.v[i].b = light;
    }
    m_quads.push_back(q);
}

void TileBatch::setDepth(Quad &q, size_t order) const
{
    // Window depth (order + 1) / (n + 2) under the view's orthographic near -1, far 1.
    const double n = double(m_quads.size());
    const float z = float(1.0 - 2.0 * (double(order) + 1.0) / (n + 2.0));
    for (Vertex &v : q.v)
        v.z = z;
}

void TileBatch::draw()
{
    m_drawCalls = 0;
    if (m_quads.empty())
        return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (m_quads.size() > MaxDepthOrders) {
        drawBlended(false);
    } else {
        for (size_t i = 0; i < m_quads.size(); ++i)
            setDepth(m_quads[i], i);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_GREATER);
        drawOpaque();
        drawBlended(true);
        glDepthFunc(GL_LESS);
        glDisable(GL_DEPTH_TEST);
    }
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    // The colour array leaves the current colour undefined.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void TileBatch::drawOpaque()
{
    // Front to back, one run per page: the depth test, not the order, decides.
    std::vector<const Quad *> opaque;
    opaque.reserve(m_quads.size());
    for (auto it = m_quads.crbegin(); it != m_quads.crend(); ++it) {
        if (!it->blended)
            opaque.push_back(&*it);
    }
    std::stable_sort(opaque.begin(), opaque.end(),
                     [](const Quad *a, const Quad *b) { return a->texture < b->texture; });
    m_passVertices.clear();
    m_passPages.clear();
    for (const Quad *q : opaque)
        addToPass(*q);
    glDisable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glDepthMask(GL_TRUE);
    drawPass();
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
}

void TileBatch::drawBlended(bool depthTested)
{
    m_passVertices.clear();
    m_passPages.clear();
    for (const Quad &q : m_quads) {
        if (q.blended || !depthTested)
            addToPass(q);
    }
    // Blended quads leave the depth alone: each is tested against the opaque
    // quads in front of it only.
    glDepthMask(GL_FALSE);
    drawPass();
    glDepthMask(GL_TRUE);
}

void TileBatch::addToPass(const Quad &q)
{
    for (int corner : Triangulation)
        m_passVertices.push_back(q.v[corner]);
    m_passPages.push_back(q.texture);
}

// One call per run of quads from the same page, in the pass's order.
void TileBatch::drawPass()
{
    if (m_passPages.empty())
        return;
    const Vertex *v = m_passVertices.data();
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &v->x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &v->s);
    glColorPointer(3, GL_FLOAT, sizeof(Vertex), &v->r);
    size_t first = 0;
    while (first < m_passPages.size()) {
        size_t end = first + 1;
        while (end < m_passPages.size() && m_passPages[end] == m_passPages[first])
            ++end;
        glBindTexture(GL_TEXTURE_2D, m_passPages[first]);
        glDrawArrays(GL_TRIANGLES, GLint(first * VerticesPerQuad),
                     GLsizei((end - first) * VerticesPerQuad));
        ++m_drawCalls;
        first = end;
    }
}
