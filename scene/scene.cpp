#include "scene.h"

#include <cstring>

primrec pri[PRIM_MAX];
ligrec lig[LIGHT_MAX];
int primmx, nlg;

double rx, ry, rz;
double vpnax, vpnay, vpnaz;
double dlength, wdu;
int ixmx, iymx, ilvlmx;
vec uvec, vvec;
double length3d = 0.16;

void scene_reset()
{
    std::memset(pri, 0, sizeof pri);
    std::memset(lig, 0, sizeof lig);
    primmx = nlg = 0;
    rx = ry = rz = 0;
    vpnax = vpnay = vpnaz = 0;
    dlength = wdu = 0;
    ixmx = iymx = ilvlmx = 0;
    uvec = vvec = vec{0, 0, 0};
    length3d = 0.16;
}
