#include "resources/Resources.h"

#include "platform/Error.h"

namespace tavixTGCL2::detail {
struct EmbeddedResource {
    const char* name;
    const unsigned char* data;
    std::size_t size;
};
extern const EmbeddedResource kEmbeddedResources[];
extern const std::size_t kEmbeddedResourceCount;
}  // namespace tavixTGCL2::detail

namespace tavixTGCL2::Resources {

namespace {
const detail::EmbeddedResource* lookup(std::string_view name) {
    for (std::size_t i = 0; i < detail::kEmbeddedResourceCount; ++i)
        if (name == detail::kEmbeddedResources[i].name) return &detail::kEmbeddedResources[i];
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
    for (std::size_t i = 0; i < detail::kEmbeddedResourceCount; ++i)
        out.emplace_back(detail::kEmbeddedResources[i].name);
    return out;
}

}  // namespace tavixTGCL2::Resources
