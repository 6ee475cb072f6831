// keys_input (harness.h): two scene texts as key scenes.
#include "check.h"
#include "harness.h"

#include "../base/msg.h"
#include "../scene/keys.h"
#include "../scene/rtwrite.h"

#include <cmath>
#include <memory>
#include <string>

namespace {

std::unique_ptr<keyscene> read_key(const std::string &text)
{
    auto k = std::make_unique<keyscene>(); // a fresh scene for each key
    msglist msgs;
    data_load_text(k->sc, text.data(), text.size(), msgs, &k->map);
    return k;
}

// No place, or a place within the text.
bool in_text(const place &p, const std::string &text)
{
    return (p.line == 0) == (p.col == 0) && p.line >= 0 &&
           (size_t)p.line <= lines_in(text.data(), text.size());
}

// sc, written with its semi-axes, reads back as exactly sc.
void check_written(const scene &sc, const vec *axes)
{
    std::string text;
    msglist msgs;
    CHECK(rt_text(sc, text, msgs, axes));
    const std::unique_ptr<keyscene> back = read_key(text);
    CHECK(same_numbers(sc, back->sc, axes, back->map.axes));
    CHECK(back->map.records_ended);
}

void check_mixes(const keyscene &a, const keyscene &b, double given)
{
    static scene sc; // out of the stack
    static vec axes[PRIM_MAX];
    // a key mixed with itself is itself
    key_mix(a, a, given, sc, axes);
    CHECK(same_numbers(a.sc, sc, a.map.axes, axes));
    if (!a.map.records_ended || !b.map.records_ended)
        return; // a scene cut short is no file's
    for (double u : {0.0, 0.5, 1.0, given}) {
        key_mix(a, b, u, sc, axes);
        check_written(sc, axes);
    }
}

} // namespace

void keys_input(const uint8_t *data, size_t n)
{
    const std::string in((const char *)data, n);
    const size_t sep = in.find("\n%%\n");
    const std::string ta = in.substr(0, sep);
    const std::string tb = sep == std::string::npos ? ta : in.substr(sep + 4);
    const std::unique_ptr<keyscene> a = read_key(ta), b = read_key(tb);

    keydiff d, e;
    CHECK(!key_differs(*a, *a, d));
    const bool differ = key_differs(*a, *b, d);
    CHECK(differ == key_differs(*b, *a, e));
    if (differ) {
        CHECK(!d.what.empty() && d.what == e.what && d.a == e.b && d.b == e.a);
        CHECK(in_text(d.at_a, ta) && in_text(d.at_b, tb));
    }

    // u from the input's last bytes: 0 to 1
    const double u = n >= 2 ? (data[n - 1] | data[n - 2] << 8) / 65535.0 : 0.25;
    if (!differ)
        check_mixes(*a, *b, u);

    // where frames fall among a few keys
    for (int keys = 1; keys <= 3; keys++)
        for (int frames : {1, 2, 7, 1 + (int)(n % 300)})
            for (int k = 0; k < frames; k++) {
                int seg;
                double at;
                key_place(k, frames, keys, seg, at);
                CHECK(seg >= 0 && (seg + 1 < keys || (seg == 0 && keys == 1)));
                CHECK(at >= 0 && at <= 1);
                CHECK(k != 0 || (seg == 0 && at == 0));
            }
}
