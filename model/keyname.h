#pragma once

#include <QString>

// The JSON key for a member name: "EmoteAnimFile" and "m_emoteAnimFile" give
// "emote_anim_file". A member prefix ("m_"), scope and object qualifiers and
// call parentheses are stripped, so an expression naming a member gives the
// member's key. In dotted mode member accesses stay part of the key
// ("Scene.Name" gives "scene_name"). Safe to call from several threads; each
// thread remembers the keys it has worked out.
QString keyName(const QString &name, bool dotted = false);
