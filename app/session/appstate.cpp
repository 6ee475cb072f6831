#include "app/session/appstate.h"

void set_ext(std::string &name, const char *ext)
{
    const size_t dot = name.find('.');
    if (dot != std::string::npos)
        name.erase(dot);
    name += ext;
}
