#pragma once

#include "memorywindow.h"

#include <string>
#include <vector>

// A window runtime without any toolkit, for fast behaviour tests.
class MemoryRuntime final : public ui::Runtime {
public:
    std::unique_ptr<ui::Window> load(const ui::WindowDefinition &definition) override;
    void fatal(const std::string &message) override { fatalErrors.push_back(message); }
    // Runs a handler as a runtime would: what it throws becomes a fatal error.
    void run(const ui::Handler &handler);

    std::vector<std::string> fatalErrors;
    int loads = 0;
};
