// XAnimationManager: advances every running animation once per frame, before the game frame.
#pragma once

#include <cstdint>    // int32_t
#include <functional> // std::function
#include <vector>

class XAnimated;

// Kinds of arrival report: which action an arriving animation belongs to.
constexpr int kPanelAnimation = 1;  // the pause panel's slide
constexpr int kZoomAnimation = 2;   // the camera's zoom
constexpr int kValueAnimation = 3;  // any other animated value (the weapon models' slides and recoil)

class XAnimationManager {
public:
    // Room for the animations of a game (the panel, the zoom, the weapon models) made at once.
    XAnimationManager();

    // Reads the game time once and advances every active listed animation, in list order.
    void Tick();
    // Moves one animation to the time of the last Tick; true while it is still running.
    bool Advance(XAnimated& animator);
    // Lists an animation (once; a started animation stays listed after it arrives).
    void Add(XAnimated* animator);
    void Remove(XAnimated* animator);

    // Who hears arrival reports by kind (kPanelAnimation, kZoomAnimation, kValueAnimation): the game.
    void SetFinishedHandler(std::function<void(int kind)> handler);
    void ReportFinished(int kind) const;

    int32_t Now() const;

private:
    int32_t now = 0;
    std::vector<XAnimated*> animators;
    std::function<void(int)> finishedHandler;
};

// The process-wide animation manager, created on first use.
XAnimationManager* GetAnimationManager();
