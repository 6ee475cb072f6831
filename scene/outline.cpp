#include "outline.h"

#include <algorithm>
#include <bitset>

std::vector<csg_group> csg_groups(const scene &sc)
{
    std::vector<std::bitset<PRIM_MAX>> seen;
    std::vector<csg_group> out;
    const int n = std::clamp(sc.primmx, 0, PRIM_MAX);
    for (int i = 0; i < n; i++) {
        const primrec &p = sc.pri[i];
        if (p.nmem <= 0 || p.nmem > MEMBER_MAX)
            continue;
        std::bitset<PRIM_MAX> g;
        g.set(i);
        for (int m = 0; m < p.nmem; m++)
            if (p.mem[m] >= 0 && p.mem[m] < PRIM_MAX)
                g.set(p.mem[m]);
        if (std::find(seen.begin(), seen.end(), g) != seen.end())
            continue;
        seen.push_back(g);
        csg_group c{{}, i};
        for (int k = 0; k < PRIM_MAX; k++)
            if (g[k])
                c.members.push_back(k);
        out.push_back(c);
    }
    return out;
}

namespace {

struct builder {
    std::vector<outline_item> &out;
    const scene_text &st;

    void add(int kind, int index, int number, int type, int depth, std::string label,
             const text_span &span)
    {
        const int line = span.len ? st.lines.place_of(span.at).line : 0;
        out.push_back(outline_item{kind, index, number, type, depth, std::move(label), span, line});
    }
    // From the first number of a record to the end of its last; empty when
    // the text has not all of them.
    text_span record(int first, int count) const
    {
        if (first < 0 || first + count > (int)st.numbers.size())
            return text_span{};
        const size_t at = st.numbers[first].span.at;
        return text_span{at, st.numbers[first + count - 1].span.end() - at};
    }
    void primitive(const scene &sc, int i, int depth)
    {
        const field_ref f{SEC_PRIM, i, P_TYPE};
        add(OUT_PRIMITIVE, i, i + 1, sc.pri[i].type, depth, record_name(sc, f),
            i < (int)st.prim.size() ? record(st.prim[i], PRIM_FIELDS) : text_span{});
    }
    // The group list that begins at p, to its terminator.
    text_span group_list(const place &p) const
    {
        const size_t at = st.lines.offset(p);
        auto it = std::find_if(st.numbers.begin(), st.numbers.end(), [&](const text_number &n) {
            return n.kind == NUM_MEMBER && n.span.at == at;
        });
        if (it == st.numbers.end())
            return text_span{};
        while (it->member > 1) // members before it the reader left out
            --it;
        auto last = it;
        while (last + 1 != st.numbers.end() && last->kind == NUM_MEMBER &&
               (last + 1)->group == it->group)
            ++last;
        return text_span{it->span.at, last->span.end() - it->span.at};
    }
};

} // namespace

void scene_outline(std::vector<outline_item> &out, const scene &sc, const scene_map &map,
                   const scene_text &st)
{
    out.clear();
    builder B{out, st};
    B.add(OUT_CAMERA, 0, 0, 0, 0, "camera", B.record(st.view[V_RX], V_IYMX + 1));
    for (int j = 0; j < (int)st.light.size(); j++)
        B.add(OUT_LIGHT, j, j + 1, 0, 0, "light " + std::to_string(j + 1),
              B.record(st.light[j], LIGHT_FIELDS));
    B.add(OUT_DEPTH, 0, 0, 0, 0, "depth", B.record(st.view[V_ILVLMX], 1));

    const std::vector<csg_group> groups = csg_groups(sc);
    const int n = std::clamp(sc.primmx, 0, PRIM_MAX);
    std::vector<char> grouped(n, 0);
    std::vector<std::vector<int>> starting(n); // the groups whose first member each is
    for (int k = 0; k < (int)groups.size(); k++) {
        starting[groups[k].members[0]].push_back(k);
        for (int m : groups[k].members)
            grouped[m] = 1;
    }
    for (int i = 0; i < n; i++) {
        for (int k : starting[i]) {
            const csg_group &g = groups[k];
            std::string label = "group";
            for (int m : g.members)
                label += " " + std::to_string(m + 1);
            B.add(OUT_GROUP, k, k + 1, 0, 0, label, B.group_list(map.group[g.from]));
            for (int m : g.members)
                B.primitive(sc, m, 1);
        }
        if (!grouped[i])
            B.primitive(sc, i, 0);
    }
}
