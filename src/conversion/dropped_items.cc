#include "conversion/dropped_items.h"

#include <algorithm>

namespace brellam {

std::vector<std::string> DroppedItems(const CommandLine& command_line,
                                      const std::function<bool(const std::string&)>& exists) {
  const std::vector<std::string>& arguments = command_line.arguments;
  if (arguments.size() == 1 && exists(arguments.front())) return arguments;
  std::string whole = command_line.text;
  whole.erase(std::remove(whole.begin(), whole.end(), '"'), whole.end());
  if (whole.empty()) return {};
  if (arguments.size() <= 1 || exists(whole)) return {whole};
  return arguments;
}

}  // namespace brellam
