#include "resources/Resources.h"

#include "EmbeddedResources.h"
#include "platform/Error.h"

namespace tavixTGCL2::Resources {

namespace {
const detail::EmbeddedResource* lookup(std::string_view name) {
    for (const auto& r : detail::embeddedResources())
        if (name == r.name) return &r;
    return nullptr;
}
}  // namespace

std::string_view get(std::string_view name) {
    const auto* r = lookup(name);
    if (!r) throw Error(errFileNotFound, "no such resource: " + std::string(name));
    return {reinterpret_cast<const char*>(r->data), r->size};
}

bool exists(std::string_view name) { return lookup(name) != nullptr; }

std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const auto& r : detail::embeddedResources()) out.emplace_back(r.name);
    return out;
}

}  // namespace tavixTGCL2::Resources
