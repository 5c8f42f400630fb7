// XSceneDump: a JSON description of what the start-up loaded (--dump-scene FILE), written right after the
// scene is set up: the nodes in file order with their meshes, frames and material groups, the sorted node
// lists, the material records, the scene textures, the lights and the octree statistics. Level authors use it
// to check a level; tests compare it with the scene file.
#pragma once

#include <string>

class XScene;

// Writes the dump; false (with a message on stderr) when the file cannot be written.
bool WriteSceneDump(const XScene& scene, const std::string& path);

// The dump's text.
std::string SceneDumpText(const XScene& scene);
