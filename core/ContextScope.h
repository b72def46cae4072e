#pragma once
// The program context of the running instance, as the subsystems below the main window reach
// it: they may keep a reference to the current one and make it current again around work that
// the event loop starts (device events). The records live in main_window/ProgramContext.h.
struct ProgramContext;

// The current instance: the program's own unless a scope below has made another current.
ProgramContext& CurrentContext();

// Makes a context current for its lifetime, then restores the one before it.
class ContextScope {
public:
    explicit ContextScope(ProgramContext& context);
    ~ContextScope();
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    ProgramContext* previous_;
};
