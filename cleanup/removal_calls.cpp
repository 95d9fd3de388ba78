#include "cleanup/removal_calls.h"

#include <memory>

#include "removal/remove_files.h"

namespace korvex::cleanup {

CleanUpRemoval RemovalLayerCalls(Services& services, RegistryAccess& registry, Prompt& prompt,
                                 std::string dataFolder) {
    auto context = std::make_shared<RemovalContext>(RemovalContext{services, registry, prompt, std::move(dataFolder)});
    CleanUpRemoval calls;
    calls.removeFiles = [context](const std::vector<std::string>& paths, std::uint16_t flags, DeleteHow how) {
        RemoveReport report;
        const bool removed = RemoveFiles(*context, paths, flags,
                                         how == DeleteHow::Permanent ? RemovalMode::Permanent : RemovalMode::Normal,
                                         &report);
        ShowRefusals(context->prompt, report.refusals);
        return removed;
    };
    calls.moveFiles = [context](const std::vector<std::string>& paths, std::string_view destination,
                                std::uint16_t flags) {
        MoveFiles(*context, paths, destination, flags);
        ShowRefusals(context->prompt, context->services.shell.takeRefusals());
    };
    return calls;
}

}  // namespace korvex::cleanup
