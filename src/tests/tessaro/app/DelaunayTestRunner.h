#pragma once

#include "app/Renderer.h"
#include "scene/Scene.h"
#include "window/window.h"

#include <vector>

namespace DelaunayTest {

// The application behind the window: turns each menu entry into one scene
// command and draws the scene on every frame.
class DelaunayTestRunner : public GlutWrapper::IRunner, public GlutWrapper::IMenuListener {
public:
    DelaunayTestRunner();
    ~DelaunayTestRunner() override;

    const std::vector<GlutWrapper::MenuEntry>& getMenuEntries() const { return m_menuEntries; }
    const Scene& getScene() const { return m_scene; }

    void init(int width, int height) override;
    void display() override;
    void reshape(int width, int height) override;
    void onMenuEntry(int id) override;

private:
    std::vector<GlutWrapper::MenuEntry> m_menuEntries;
    Renderer m_renderer;
    Scene m_scene;
};

} // namespace DelaunayTest
