// studio_silhouette.h - the edge of what is selected, drawn over the
// picture (studio_pick.h's silhouette).
//
// Which primitive every dot of the picture shows is found beside the
// window (session/worker.h), once for each picture a render made; the
// edge is made again from it when the picture, the zoom or what is
// chosen changes (show, refresh). paint() only draws it, and not while
// the rows of a render cover the picture.
#pragma once

#include "app/session/worker.h"
#include "trace/frame.h"

#include <QImage>
#include <QObject>
#include <memory>
#include <vector>

class QPainter;
class View;
struct scene;
struct session;

class StudioSilhouette : public QObject {
public:
    StudioSilhouette(const session &s, View &view);
    ~StudioSilhouette() override;
    // The primitives to outline (0-based); none: nothing.
    void show(std::vector<int> chosen);
    // The picture, its zoom or its scene may have changed.
    void refresh();
    void paint(QPainter &p, bool rows_shown) const;
    // The dots' primitives are known for the picture shown, and nothing runs.
    bool ready() const;
    bool working() const { return ids_work.running(); }
    void stop();

private:
    void start_ids();
    void make_edge();

    const session &s;
    View &view;
    std::vector<int> chosen;
    bool visible = false;

    // every dot's primitive, found beside the window
    worker ids_work;
    std::shared_ptr<const scene> ids_scene, computing;
    frame ids_frame{};
    std::vector<int> ids;

    // the edge, and what it was made of
    QImage sil;
    const void *sil_scene = nullptr;
    int sil_zoom = 0;
    std::vector<int> sil_chosen;
};
