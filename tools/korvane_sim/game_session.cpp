#include "game_session.h"

#include "working_folder.h"

namespace korvane_tool {

std::unique_ptr<GameSession> GameSession::Start(const SessionSettings& settings,
                                                std::string* error) {
    // Both paths are taken relative to the caller's folder, before the game
    // changes into its own.
    const std::string plugin =
        settings.plugin.empty() ? korvane::DefaultPluginPath() : AbsolutePath(settings.plugin);
    if (settings.createGameDir && !MakeFolders(settings.gameDir)) {
        *error = "cannot create the game folder " + settings.gameDir;
        return nullptr;
    }
    if (!IsFolder(settings.gameDir) || !ChangeFolder(settings.gameDir)) {
        *error = "no game folder " + settings.gameDir;
        return nullptr;
    }

    std::unique_ptr<GameSession> session(new GameSession());
    const korvane::LoadReport report = session->host_.LoadPlugin(plugin);
    if (!report.loaded) {
        *error = "cannot load the plug-in " + plugin + ": " + report.error;
        return nullptr;
    }
    if (!report.callbackAccepted) {
        *error = "the plug-in " + plugin + " offered no registration";
        return nullptr;
    }
    session->host_.DeclareQuillmereStructs();
    if (!session->host_.Register()) {
        *error = "the plug-in's registration returned false";
        return nullptr;
    }
    return session;
}

korvane::ScriptValue GameSession::Call(const std::string& native,
                                       const std::vector<korvane::ScriptValue>& args) {
    return host_.Call(kScriptClass, native, args);
}

}  // namespace korvane_tool
