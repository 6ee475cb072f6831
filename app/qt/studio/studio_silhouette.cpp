#include "app/qt/studio/studio_silhouette.h"

#include "app/qt/window/to_window.h"
#include "app/qt/window/view.h"
#include "app/session/session.h"
#include "app/studio/studio_pick.h"

#include <QPainter>
#include <atomic>

namespace {

// the edge dashed black and white, to show on any picture
const QRgb SIL_EDGE[2] = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
constexpr int SIL_DASH = 3;

} // namespace

StudioSilhouette::StudioSilhouette(const session &ses, View &v)
    : s(ses), view(v), ids_work(to_window())
{
}

StudioSilhouette::~StudioSilhouette() { stop(); }

void StudioSilhouette::stop()
{
    ids_work.stop();
    computing.reset();
}

void StudioSilhouette::show(std::vector<int> primitives)
{
    chosen = std::move(primitives);
    refresh();
}

void StudioSilhouette::refresh()
{
    visible = false;
    if (!chosen.empty() && s.app.image_ready && s.app.made_scene) {
        if (ids_scene != s.app.made_scene) {
            start_ids(); // drawn once they are known
        } else {
            make_edge();
            visible = true;
        }
    }
    view.update();
}

// The edge at the zoom, made again only when something changed; the dots
// within keep their colours.
void StudioSilhouette::make_edge()
{
    const int zoom = s.disp.zoom_size;
    if (sil_scene == ids_scene.get() && sil_zoom == zoom && sil_chosen == chosen)
        return;
    std::vector<unsigned char> dots;
    int W, H;
    silhouette(ids, ids_frame.width, ids_frame.h, chosen, zoom, dots, W, H);
    sil = QImage(W > 0 ? W : 1, H > 0 ? H : 1, QImage::Format_ARGB32_Premultiplied);
    sil.fill(Qt::transparent);
    for (int y = 0; y < H; y++) {
        auto *line = reinterpret_cast<QRgb *>(sil.scanLine(y));
        for (int x = 0; x < W; x++)
            if (dots[(size_t)y * W + x] == 2)
                line[x] = SIL_EDGE[(x + y) / SIL_DASH % 2];
    }
    sil_scene = ids_scene.get();
    sil_zoom = zoom;
    sil_chosen = chosen;
}

void StudioSilhouette::start_ids()
{
    if (computing)
        return; // one at a time: what it finds asks again
    computing = s.app.made_scene;
    const std::shared_ptr<const scene> sc = computing;
    const frame f = s.app.made_frame;
    auto found = std::make_shared<std::vector<int>>();
    auto stop = std::make_shared<std::atomic<bool>>(false);
    ids_work.start([sc, f, found, stop] { return pick_dots(*sc, f, *found, stop.get()) ? 1 : 0; },
                   [this, sc, f, found](int) {
                       computing.reset();
                       ids_scene = sc;
                       ids_frame = f;
                       ids.swap(*found);
                       sil_scene = nullptr;
                       refresh();
                   },
                   [stop] { *stop = true; });
}

void StudioSilhouette::paint(QPainter &p, bool rows_shown) const
{
    if (visible && !rows_shown)
        p.drawImage(0, 0, sil);
}

bool StudioSilhouette::ready() const
{
    return ids_scene && ids_scene == s.app.made_scene && !computing;
}
