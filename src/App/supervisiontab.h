#pragma once

// The tab the supervision panel opens on: launch conditions, restriction rules, timed quits. Never stored.
enum class SupervisionTab { launch, restrict, quit };
