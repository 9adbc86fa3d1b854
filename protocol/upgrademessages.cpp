#include "upgrademessages.h"

#include "devicestate.h"

#include <algorithm>
#include <iterator>

namespace Koru {
namespace {

struct CodeKey
{
    int code;
    const char *key;
};

const CodeKey ErrorKeys[] = {
    {-1, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror1")},
    {-3, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror3")},
    {-13, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror3")},
    {-7, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror7")},
    {-10, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror10")},
    {-15, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror15")},
    {-99, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror99")},
};
const char *const UnknownErrorKey = QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror0");

} // namespace

TextKey upgradeMessage(int code, const char *key)
{
    if (code >= 0)
        return {"UpgradeEngine", key};
    const auto entry = std::find_if(std::begin(ErrorKeys), std::end(ErrorKeys),
                                    [code](const CodeKey &e) { return e.code == code; });
    return {"UpgradeEngine", entry == std::end(ErrorKeys) ? UnknownErrorKey : entry->key};
}

uint8_t takeUpgradeErrorStage(DeviceState &state)
{
    const uint8_t stage = state.upgErrorStage;
    state.upgErrorStage = 0;
    return stage;
}

} // namespace Koru
