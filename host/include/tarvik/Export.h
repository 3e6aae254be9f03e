#pragma once

// Symbol visibility for the two binaries on either side of the plugin boundary:
// TARVIK_SDK_API marks what the host SDK library exports, TARVIK_PLUGIN_API what a
// plugin module exports (its record, its entry points and the base class members).
#if defined(_WIN32)
#if defined(TARVIK_SDK_BUILDING)
#define TARVIK_SDK_API __declspec(dllexport)
#else
#define TARVIK_SDK_API __declspec(dllimport)
#endif
#if defined(TARVIK_PLUGIN_BUILDING)
#define TARVIK_PLUGIN_API __declspec(dllexport)
#else
#define TARVIK_PLUGIN_API __declspec(dllimport)
#endif
#elif defined(__GNUC__) || defined(__clang__)
#define TARVIK_SDK_API __attribute__((visibility("default")))
#define TARVIK_PLUGIN_API __attribute__((visibility("default")))
#else
#define TARVIK_SDK_API
#define TARVIK_PLUGIN_API
#endif

// Every wrapper's constructor, copy and destructor are defined in the SDK library,
// never inline, so that any implementation of these headers can stand behind them.
// A class name cannot be parenthesized, hence the NOLINT.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define TARVIK_WRAPPER_MEMBERS(ClassName)             \
    explicit ClassName(std::uintptr_t memoryAddress); \
    ClassName(const ClassName& other);                \
    ClassName& operator=(const ClassName& other);     \
    ~ClassName()
// NOLINTEND(bugprone-macro-parentheses)
