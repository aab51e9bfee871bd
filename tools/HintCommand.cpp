#include "tools/HintCommand.h"

#include "config/DescriptionHint.h"
#include "tools/ToolOptions.h"

#include <iostream>
#include <iterator>

namespace zavrio {

int runHintCommand(const std::vector<std::string>& args) {
    if (!args.empty())
        throw UsageError("unexpected argument '" + args.front() + "'");
    const std::string description{std::istreambuf_iterator<char>(std::cin),
                                  std::istreambuf_iterator<char>()};
    std::cout << DescriptionHint(description) << '\n';
    return 0;
}

} // namespace zavrio
