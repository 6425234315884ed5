# The server's socket-free rules: frames in, lobby, names, the directory's list. Included by server/ and by
# the fuzz build, which has no Asio host.
add_library(kav_server_rules STATIC
  ${CMAKE_CURRENT_LIST_DIR}/directory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_intake.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lobby.cpp
  ${CMAKE_CURRENT_LIST_DIR}/names.cpp
)
target_include_directories(kav_server_rules PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(kav_server_rules PUBLIC kav_net)
