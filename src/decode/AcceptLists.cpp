#include "decode/AcceptLists.h"

#include <algorithm>

bool IsAccepted(std::string_view typeName, std::span<const std::string_view> list)
{
    return std::find(list.begin(), list.end(), typeName) != list.end();
}
