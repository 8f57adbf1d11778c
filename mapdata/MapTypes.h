#pragma once
// The shared records of the map model.
