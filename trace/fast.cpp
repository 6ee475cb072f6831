// The accelerated tracer's shading (shade_impl.h over fast_tracer) and what
// one thread's tracer keeps; the searches are in fast_near.cpp and
// fast_shadow.cpp, the preparation in fast_prep.cpp.
#include "fast_prep.h"
#include "shade_group.h"

fast_tracer::fast_tracer(const scene &s, const fast_prep &prep) : sc(&s), S(&prep)
{
    tile = -1;
    for (int j = 0; j < LIGHT_MAX; j++)
        blocker[j] = -1;
    // room for the scene's lights only: a few pages
    const int blocks = (prep.lights.pos.n + 7) / 8 > 0 ? (prep.lights.pos.n + 7) / 8 : 1;
    lg_blocks.resize(blocks);
    lg.b = lg_blocks.data();
    tree_nodes.reset(new ray_node[RAY_TREE]);
    tree = tree_nodes.get();
}

const light_geom &fast_tracer::lights_at(const vec &h, const vec &n, double n2, const vec &u,
                                         bool highlights)
{
    S->K->geometry(S->lights.pos, h, n, n2, u, highlights, lg);
    return lg;
}

const double *fast_tracer::highlight_floors(int k) const
{
    return S->shading.hlfloor.data() + (size_t)k * (sc->nlg > 0 ? sc->nlg : 0);
}

double fast_tracer::fi_max(int j) const { return S->lights.fimax[j]; }

unsigned fast_tracer::bits(int k) const { return S->shading.bits[k]; }

colr &calc_fast(fast_tracer &tr, colr &out, const vec &org, const vec &dir, int depth, int eye)
{
    return shade(tr, out, org, dir, depth, eye);
}

void calc_fast_group(fast_tracer &tr, colr *out, const vec &org, const vec *dir, const int *tile,
                     int n, int depth, int eye)
{
    shade_group(tr, out, org, dir, tile, n, depth, eye);
}
