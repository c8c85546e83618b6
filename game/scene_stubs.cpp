// Stand-ins for scenes not built yet; every scene MainLoop dispatches to now has its own code.
