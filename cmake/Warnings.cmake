# Warnings for every target of ours; kept per target, never global.
function(aostrack_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -pedantic)
endfunction()
