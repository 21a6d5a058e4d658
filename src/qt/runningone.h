#pragma once

#include "app/request.h"
#include "app/status.h"

#include <optional>
#include <variant>

// What a later start asks of the session's running Veltrane, on the session bus. Needs no window.
namespace ui::qt::runningone {

// Its answer, where one runs.
std::optional<app::Answer> ask(const app::Request &request);
// What it is doing, or its answer where it tells none; none where none runs.
std::optional<std::variant<app::Status, app::Answer>> askStatus();

} // namespace ui::qt::runningone
