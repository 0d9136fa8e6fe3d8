// The supervision engine and catalogue services live here.
