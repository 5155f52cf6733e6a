// Resource numbers of the prompt window and its lists.
#pragma once
