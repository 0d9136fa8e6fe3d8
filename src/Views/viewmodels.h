#pragma once

// The view models of Tarnwick.ViewModels. Each view model lives in its own header beside this one.
