#include "afx/message_map.h"

namespace afx {

namespace {

bool Matches(const MessageMapEntry& e, EntryKind kind, UINT message, UINT code, UINT id) {
    if (e.kind != kind || message < e.firstMessage || message > e.lastMessage) return false;
    return kind != EntryKind::Command || (e.code == code && e.id == id);
}

}  // namespace

const MessageMapEntry* FindEntry(const MessageMap* map, EntryKind kind, UINT message, UINT code,
                                 UINT id) {
    for (; map != nullptr; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* e = map->entries; e->kind != EntryKind::End; ++e) {
            if (Matches(*e, kind, message, code, id)) return e;
        }
    }
    return nullptr;
}

}  // namespace afx
