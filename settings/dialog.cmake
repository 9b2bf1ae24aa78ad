# The preferences dialog and its controls (Qt Widgets); included after desktop/.
file(GLOB HW_SETTINGS_UI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/settings/dialog/*.cpp
     ${CMAKE_SOURCE_DIR}/settings/dialog/*.h)
hallwire_library(hw_settings_ui ${HW_SETTINGS_UI_SOURCES})
if(HW_LIB_KIND STREQUAL "PUBLIC")
  set_target_properties(hw_settings_ui PROPERTIES AUTOMOC ON)
endif()
target_link_libraries(hw_settings_ui ${HW_LIB_KIND} hw_settings hw_desktop Qt6::Widgets)
