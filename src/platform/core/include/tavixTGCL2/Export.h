#pragma once
// The libraries are built with hidden symbols: only what carries TGCL_API is
// part of the binary interface a host links against. Classes carry it whole
// (members, vtables and type information, so exceptions and dynamic_cast work
// across the library boundary); free functions one by one.
#if defined(__GNUC__) || defined(__clang__)
#define TGCL_API __attribute__((visibility("default")))
#else
#define TGCL_API
#endif

// For the library's own types that public headers only name: explicitly
// hidden, or the standard templates instantiated over them would be
// exported along with the public class they serve.
#if defined(__GNUC__) || defined(__clang__)
#define TGCL_HIDDEN __attribute__((visibility("hidden")))
#else
#define TGCL_HIDDEN
#endif
