#include "memoryruntime.h"

#include <exception>

std::unique_ptr<ui::Window> MemoryRuntime::load(const ui::WindowDefinition &definition)
{
    ++loads;
    return std::make_unique<MemoryWindow>(definition, *this);
}

void MemoryRuntime::run(const ui::Handler &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        fatal(error.what());
    }
}
