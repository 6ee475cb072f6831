#include "reduce.h"

namespace {

// Accumulated value of the dot in column x: what the row above left for
// it, plus the carry from the left. A row start clears the carry and
// entry 0 before reading them.
int accumulate(int x, int in, int *buf, int &carry)
{
    if (x == 0) {
        carry = 0;
        buf[0] = 0;
    }
    int above = x >= 0 && x < WIDTH_MAX ? buf[x] : 0;
    return above + carry + in;
}

// Spreads the error e of the dot in column x.
void spread(int x, int e, int *buf, int &carry, int &diag)
{
    const int q = e / 4;
    if (x >= 1 && x - 1 < WIDTH_MAX)
        buf[x - 1] += q;
    if (x >= 0 && x <= WIDTH_MAX - 1)
        buf[x] = q + diag;
    if (x <= WIDTH_MAX - 2)
        diag = q;
    carry = q + e % 4;
}

// One channel of gk8: 1 when it is on.
int on8(int x, int in, int *buf, int &carry, int &diag)
{
    const int v = accumulate(x, in, buf, carry);
    const int on = v > 128;
    spread(x, on ? v - 255 : v, buf, carry, diag);
    return on;
}

// One channel of gk256: its level 0..5.
int level256(int x, int in, int *buf, int &carry, int &diag)
{
    const int v = accumulate(x, in, buf, carry);
    int q = (5 * v + 25) / 256;
    if (q < 0)
        q = 0;
    if (q > 5)
        q = 5;
    spread(x, in - 51 * q, buf, carry, diag);
    return q;
}

} // namespace

int gk8(diffusion &d, int x, int r, int g, int b)
{
    int c = 0;
    if (on8(x, r, d.ebufr, d.ecarr, d.ediar))
        c += 2;
    if (on8(x, g, d.ebufg, d.ecarg, d.ediag))
        c += 4;
    if (on8(x, b, d.ebufb, d.ecarb, d.ediab))
        c += 1;
    return c;
}

int gk256(diffusion &d, int x, int r, int g, int b)
{
    int i = level256(x, r, d.ebufr, d.ecarr, d.ediar);
    i = i * 6 + level256(x, g, d.ebufg, d.ecarg, d.ediag);
    i = i * 6 + level256(x, b, d.ebufb, d.ecarb, d.ediab);
    return i;
}

void gk_reset(diffusion &d) { d = diffusion{}; }

unsigned code_rgb(int c)
{
    unsigned rgb = 0;
    if (c & 2)
        rgb |= 0xff0000;
    if (c & 4)
        rgb |= 0x00ff00;
    if (c & 1)
        rgb |= 0x0000ff;
    return rgb;
}

unsigned cube_rgb(int i)
{
    if (i < 0 || i > 255)
        return 0;
    const unsigned r = (unsigned)(i / 36 % 6) * 51;
    const unsigned g = (unsigned)(i / 6 % 6) * 51;
    const unsigned b = (unsigned)(i % 6) * 51;
    return r << 16 | g << 8 | b;
}
